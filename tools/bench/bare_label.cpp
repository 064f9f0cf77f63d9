// bench-bare-label: the least a Qt widget program does to show something, the yardstick the
// configure command's start is compared with (scripts/bench-startup): the application, one
// label shown and its first events handled, then the end.

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Command module"));
    label.show();
    QCoreApplication::processEvents();
    return 0;
}
