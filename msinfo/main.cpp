// msinfo32: the system-information program the About box starts.
//
// Lists operating system, kernel, processor, memory, display and Qt version in a two-column
// table. It is found through the drive-C registry, as Windows' own tool would be.
#include "qtspanish.h"
#include "systeminfo.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidget>

static QTreeWidget *infoTable(const QList<msinfo::InfoItem> &items, QWidget *parent)
{
    auto *table = new QTreeWidget(parent);
    table->setColumnCount(2);
    table->setHeaderLabels({QStringLiteral("Elemento"), QStringLiteral("Valor")});
    table->setRootIsDecorated(false);
    table->setAlternatingRowColors(true);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const msinfo::InfoItem &item : items)
        table->addTopLevelItem(new QTreeWidgetItem(QStringList {item.name, item.value}));
    table->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    return table;
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("msinfo32"));
    platform::installSpanishQt(app);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Información del sistema"));
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(infoTable(msinfo::collectSystemInfo(), &window));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, &window);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &window, &QWidget::close);
    layout->addWidget(buttons);
    window.resize(640, 360);
    window.show();
    return app.exec();
}
