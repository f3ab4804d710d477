// Entry point of the Murtesk desktop program.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Murtesk: the main screen is not built yet."));
    label.setWindowTitle(QStringLiteral("Murtesk"));
    label.setMargin(24);
    label.show();
    return app.exec();
}
