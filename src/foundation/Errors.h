#pragma once
// The system's own error type. Every failure that a window may show to the operator is raised as
// (or derived from) lumvard::Error, whose message is already the text the operator reads.
#include <QString>
#include <stdexcept>

namespace lumvard {

class Error : public std::runtime_error {
public:
    explicit Error(const QString &message)
        : std::runtime_error(message.toStdString())
        , m_message(message) {}
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

} // namespace lumvard
