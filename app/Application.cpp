#include "app/Application.h"

#include "about/ProdInfo.h"
#include "common/MessageBoxes.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    RunCommand([&] { result = QApplication::notify(receiver, event); });
    return result;
}

void SetApplicationTitle()
{
    QCoreApplication::setApplicationName(ProductInfo.ProductName);
}
