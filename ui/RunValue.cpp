#include "ui/RunValue.h"

#include <QStringList>

bool applyRunValue(RunKey& machine, RunKey& user, const QString& name, const QString& data, bool enabled,
                   QString* error) {
    QStringList failures;
    auto failed = [&](RunKey& key, const QString& reason) {
        failures << QStringLiteral("%1\\%2：%3").arg(key.path(), name, reason);
    };
    QString reason;
    if (enabled) {
        if (machine.write(name, data, &reason)) {
            if (user.holds(name))
                user.remove(name, &reason); // the machine's value starts it already
            return true;
        }
        failed(machine, reason);
        if (user.write(name, data, &reason))
            return true;
        failed(user, reason);
    } else {
        for (RunKey* key : {&machine, &user}) {
            if (key->holds(name) && !key->remove(name, &reason))
                failed(*key, reason);
        }
        if (failures.isEmpty())
            return true;
    }
    if (error)
        *error = failures.join(QStringLiteral("\r\n"));
    return false;
}
