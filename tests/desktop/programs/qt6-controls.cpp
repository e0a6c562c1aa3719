// A Qt 6 Widgets window with the controls the desktop tests look for, as the GTK 3 program has
// them: a menu bar with a submenu, push, default and cancel buttons, a checkable button, check box,
// radio buttons, a tool button with a menu, combo box, spin box, slider, tabs holding a tree with
// expandable rows and a list, a scroll bar of its own (Qt shows no item view's scroll bars on the
// accessibility bus), a context menu and a tooltip. Ctrl+N opens a second window, Ctrl+D a
// dialog, Ctrl+L an alert (also from the File menu).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

void openWindow()
{
    auto* window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle("Second Window");
    window->resize(300, 200);
    (new QVBoxLayout(window))->addWidget(new QLabel("A second window"));
    window->show();
}

void openDialog(QWidget* main)
{
    auto* dialog = new QDialog(main);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle("Question");
    dialog->setModal(true);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(new QLabel("Go on?"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog->show();
}

void openAlert(QWidget* main)
{
    auto* alert = new QMessageBox(QMessageBox::Warning, "Alert", "Something happened", QMessageBox::Ok, main);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->show();
}

QTreeWidget* tree()
{
    auto* tree = new QTreeWidget;
    tree->setHeaderLabel("Name");
    tree->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (int parent = 0; parent < 3; ++parent) {
        auto* row = new QTreeWidgetItem(tree, { QString("Parent %1").arg(parent) });
        for (int child = 0; child < 3; ++child)
            new QTreeWidgetItem(row, { QString("Child %1.%2").arg(parent).arg(child) });
    }
    for (int extra = 0; extra < 30; ++extra)
        new QTreeWidgetItem(tree, { QString("Row %1").arg(extra) });
    return tree;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow main;
    main.setWindowTitle(argc > 1 ? argv[1] : "Tintra Qt 6 Controls");
    main.resize(760, 600);
    main.move(40, 40);

    auto* file = main.menuBar()->addMenu("&File");
    file->addAction("&New Window", QKeySequence("Ctrl+N"), &openWindow);
    file->addAction("&Dialog", QKeySequence("Ctrl+D"), [&] { openDialog(&main); });
    file->addAction("&Alert", QKeySequence("Ctrl+L"), [&] { openAlert(&main); });
    auto* recent = file->addMenu("&Recent");
    recent->addAction("First");
    recent->addAction("Second");
    file->addAction("&Quit", QKeySequence("Ctrl+Q"), &application, &QApplication::quit);
    auto* edit = main.menuBar()->addMenu("&Edit");
    edit->addAction("Copy");
    edit->addAction("Paste");

    auto* controls = new QWidget;
    auto* grid = new QGridLayout(controls);
    auto* push = new QPushButton("Push Me");
    push->setToolTip("This is a tooltip");
    auto* defaultButton = new QPushButton("Default");
    defaultButton->setDefault(true);
    grid->addWidget(push, 0, 0);
    grid->addWidget(defaultButton, 0, 1);
    grid->addWidget(new QPushButton("Cancel"), 0, 2);
    auto* toggle = new QPushButton("Toggle");
    toggle->setCheckable(true);
    grid->addWidget(toggle, 0, 3);
    grid->addWidget(new QCheckBox("Check"), 1, 0);
    grid->addWidget(new QRadioButton("Radio A"), 1, 1);
    grid->addWidget(new QRadioButton("Radio B"), 1, 2);
    auto* tool = new QToolButton;
    tool->setText("Tool");
    tool->setPopupMode(QToolButton::InstantPopup);
    auto* toolMenu = new QMenu(tool);
    toolMenu->addAction("One");
    toolMenu->addAction("Two");
    tool->setMenu(toolMenu);
    grid->addWidget(tool, 1, 3);
    auto* combo = new QComboBox;
    combo->addItems({ "Alpha", "Beta", "Gamma" });
    grid->addWidget(combo, 2, 0);
    auto* spin = new QSpinBox;
    spin->setMinimumWidth(120);
    grid->addWidget(spin, 2, 1);
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setMinimumWidth(160);
    grid->addWidget(slider, 2, 2, 1, 2);
    auto* tabs = new QTabWidget;
    tabs->addTab(tree(), "Tree Tab");
    auto* list = new QListWidget;
    for (int index = 0; index < 5; ++index)
        list->addItem(QString("List row %1").arg(index));
    tabs->addTab(list, "List Tab");
    grid->addWidget(tabs, 3, 0, 1, 4);
    grid->addWidget(new QScrollBar(Qt::Horizontal), 4, 0, 1, 4);
    controls->setContextMenuPolicy(Qt::ActionsContextMenu);
    controls->addAction(new QAction("Copy", controls));
    controls->addAction(new QAction("Paste", controls));
    main.setCentralWidget(controls);

    main.show();
    return application.exec();
}
