#pragma once

#include "main_window.h"
#include "message_memo.h"
#include "named_child.h"

#include <QAction>
#include <QStringList>

// What the main window's message panel shows, one entry a line.
inline QStringList MemoLines(const TfrmMain& window) {
    return Named<MessageMemo>(window, "Memo1")->Lines();
}

// Runs "Device Version" until the instrument answers, and returns its memo
// line ("Software version: 2.6"), or nothing when no answer came. Ports on a
// real server connect a cycle or two after they open: the first ask may go
// unheard.
inline QString AskDeviceVersion(TfrmMain& window, int tries = 5) {
    auto* ask = Named<QAction>(window, "actDeviceVersion");
    for (int attempt = 0; attempt < tries; ++attempt) {
        ask->trigger();
        const QString last = MemoLines(window).last();
        if (last.startsWith("Software version"))
            return last;
    }
    return {};
}
