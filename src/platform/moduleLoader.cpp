#include "moduleLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QPluginLoader>
#include <QStringList>

QObject *loadModuleObject(const QString &name, QString *errorMessage)
{
    // Beside the program first, then where the build put the modules, so that a program copied
    // elsewhere on its own still has sound and the network.
    const QStringList folders{QCoreApplication::applicationDirPath(),
                              QStringLiteral(QUILLORA_MODULE_DIR)};
    QString firstError;
    for (const QString &folder : folders) {
        // The loader never unloads the library when it goes; only its instance is wanted.
        QPluginLoader loader(QDir(folder).filePath(name));
        if (QObject *const object = loader.instance())
            return object;
        if (firstError.isEmpty())
            firstError = loader.errorString();
    }
    if (errorMessage) {
        *errorMessage =
            QStringLiteral("The module \"%1\" could not be loaded: %2").arg(name, firstError);
    }
    return nullptr;
}
