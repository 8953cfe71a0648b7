#include "aboutfactory.h"

#include "form1.h"
#include "registry.h"

namespace app {

std::function<std::unique_ptr<QWidget>()> aboutBoxFactory()
{
    return [] {
        return std::make_unique<about::Form1>(platform::systemRegistry(),
                                              platform::systemProcessStarter(),
                                              platform::systemMessageBoxes());
    };
}

} // namespace app
