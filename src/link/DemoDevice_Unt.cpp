#include "link/DemoDevice_Unt.h"

namespace DemoDevices {

namespace {

TFactory &InstalledFactory()
{
    static TFactory factory;
    return factory;
}

} // namespace

void Install(TFactory factory)
{
    InstalledFactory() = std::move(factory);
}

TDemoDevice *Create(const QString &model, QObject *parent)
{
    const TFactory &factory = InstalledFactory();
    return factory ? factory(model, parent) : nullptr;
}

} // namespace DemoDevices
