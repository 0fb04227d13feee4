#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

// A window's widget or action found by its object name. A missing one fails
// the test (gtest reports the exception) rather than crashing it.
template <typename T> T* Named(const QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (!child)
        throw std::runtime_error(std::string("no child named ") + name);
    return child;
}
