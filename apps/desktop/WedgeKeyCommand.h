#pragma once

#include <QDBusConnection>
#include <QString>
#include <optional>

#include "wedge/RemoteTriggerKeys.h"

namespace qm::desktop {

// `--scan-key press` and the like: one key of the running wedge pressed or released.
struct KeyCommand {
    RemoteKey key = RemoteKey::Scan;
    bool press = true;
};

// From the values of --scan-key and --target-key (empty when not given): nothing when neither
// is given; false when a value is not "press" or "release", or both are given.
bool readKeyCommand(const QString& scanKey, const QString& targetKey,
                    std::optional<KeyCommand>& command);

// Calls the wedge that owns `service`. True when it took the call; otherwise `problem` says
// why (no wedge answers, scanning is paused).
bool sendKeyCommand(QDBusConnection bus, const QString& service, const KeyCommand& command,
                    QString& problem);

// The whole client as a program runs it: 0 when the wedge took the call, 1 with a message on
// standard error otherwise.
int runKeyCommand(int argc, char** argv, const KeyCommand& command, const QString& service);

}  // namespace qm::desktop
