#include <QApplication>

#include "app/tavrinapp.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    CTavrinApp app;
    if (!app.InitInstance())
        return 1;
    return application.exec();
}
