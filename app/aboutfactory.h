// How the main window makes its About box.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

namespace app {

std::function<std::unique_ptr<QWidget>()> aboutBoxFactory();

} // namespace app
