#include "ui/ControlHandlers.h"

#include <QObject>
#include <QPointer>
#include <deque>

namespace qm::ui {

namespace {

struct Waiting {
    QPointer<const QObject> control;
    std::function<void()> handler;
    bool holds;
};

struct Handlers {
    bool running = false;
    std::deque<Waiting> waiting;
};

Handlers& handlers() {
    static Handlers gui;
    return gui;
}

// A handler that does not hold the others lets the handlers of its dialog start their own
// round while it waits for that dialog; they leave nothing running when they are done.
void runOne(Waiting& next) {
    if (!next.control) return;
    Handlers& all = handlers();
    all.running = next.holds;
    next.handler();
    all.running = true;
}

void enqueue(const QObject* control, std::function<void()> handler, bool holds) {
    Handlers& all = handlers();
    all.waiting.push_back({control, std::move(handler), holds});
    if (all.running) return;
    all.running = true;
    while (!all.waiting.empty()) {
        Waiting next = std::move(all.waiting.front());
        all.waiting.pop_front();
        runOne(next);
    }
    all.running = false;
}

}  // namespace

void runHandler(const QObject* control, std::function<void()> handler) {
    enqueue(control, std::move(handler), true);
}

void runBesideHandlers(const QObject* control, std::function<void()> handler) {
    enqueue(control, std::move(handler), false);
}

bool handlerRunning() { return handlers().running; }

}  // namespace qm::ui
