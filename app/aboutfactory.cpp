#include "aboutfactory.h"

namespace app {

// The About box is wired in once its window exists; until then the entry does nothing.
std::function<std::unique_ptr<QWidget>()> aboutBoxFactory()
{
    return {};
}

} // namespace app
