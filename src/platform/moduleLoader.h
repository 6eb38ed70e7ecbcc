#pragma once

#include <QObject>
#include <QString>

// Sound and the network live in modules beside the program, loaded the first time they are
// needed: most runs never use the network, and start-up does not wait for their libraries.
// Modules are looked for beside the program, then in the folder the build gave them
// (QUILLORA_MODULE_DIR).
QObject *loadModuleObject(const QString &name, QString *errorMessage);

// The module's interface, or nullptr with errorMessage set. A module, once loaded, stays loaded
// for the rest of the run, so whatever it made may be used until the end.
template <class Interface> Interface *loadModule(const QString &name, QString *errorMessage)
{
    QObject *const object = loadModuleObject(name, errorMessage);
    if (!object)
        return nullptr;
    auto *const module = qobject_cast<Interface *>(object);
    if (!module && errorMessage)
        *errorMessage = QStringLiteral("The module \"%1\" is not the one expected.").arg(name);
    return module;
}
