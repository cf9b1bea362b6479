// Functions the executable exports by name for other modules.
#include "foundation/TextFormats.h"
#include "foundation/XDias.h"

#include <QCoreApplication>
#include <cstdint>
#include <exception>

// The message dialog entry: text in GBK; kind, buttons and modal as for lumvard::Show_XDia. The owner
// is not used. Result: the button's result when modal, the notice's handle when not; -1 when no
// application object exists yet.
extern "C" __attribute__((visibility("default"))) std::int32_t
Show_XDia(void *owner, const char *text, std::uint8_t kind, std::uint8_t buttons, std::int32_t helpContext,
          std::uint8_t modal) {
    (void)owner;
    if (!QCoreApplication::instance()) return -1;
    try {
        const QString message = text ? lumvard::fromGbk(QByteArray(text)) : QString();
        return std::int32_t(lumvard::Show_XDia(message, kind, buttons, helpContext, modal != 0));
    } catch (...) {
        // Nothing may unwind into a foreign caller.
        return -1;
    }
}

// The exception reporter (see lumvard::Start_XError and friends). The exception passed to
// Show_XError is a std::exception of the calling module, or null for one of no known type.
extern "C" __attribute__((visibility("default"))) std::int32_t Start_XError(void *owner) {
    try {
        return lumvard::Start_XError(owner);
    } catch (...) {
        return 0;
    }
}

extern "C" __attribute__((visibility("default"))) std::int32_t Shut_XError() {
    return lumvard::Shut_XError();
}

extern "C" __attribute__((visibility("default"))) std::int32_t Show_XError(void *sender,
                                                                           const std::exception *e) {
    try {
        return lumvard::Show_XError(sender, e);
    } catch (...) {
        return -1;
    }
}
