#include "platform/Beep.h"

#include <QApplication>
#include <utility>

namespace platform {

namespace {
std::function<void()>& handlerSlot() {
    static std::function<void()> handler;
    return handler;
}
} // namespace

void beep() {
    if (handlerSlot())
        handlerSlot()();
    else
        QApplication::beep();
}

void setBeepHandler(std::function<void()> handler) { handlerSlot() = std::move(handler); }

} // namespace platform
