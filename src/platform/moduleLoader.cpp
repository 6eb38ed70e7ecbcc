#include "moduleLoader.h"

#include <QPluginLoader>

QObject *loadModuleObject(const QString &name, QString *errorMessage)
{
    // The loader never unloads the library when it goes; only its instance is wanted.
    QPluginLoader loader(name);
    QObject *const object = loader.instance();
    if (!object && errorMessage) {
        *errorMessage = QStringLiteral("The module \"%1\" could not be loaded: %2")
                            .arg(name, loader.errorString());
    }
    return object;
}
