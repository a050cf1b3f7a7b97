// Calls posted to a context object of the user-interface thread: Qt runs queued invocations on the
// thread that owns their context and discards those whose context has been deleted.
#include "platform/windows/MainThreadQueue.h"

#include "platform/windows/Forms.h"

#include <QMetaObject>
#include <QObject>

struct TMainThreadQueue::TImpl {
    QObject Context;
};

TMainThreadQueue::TMainThreadQueue() : FImpl(std::make_unique<TImpl>()) {}

TMainThreadQueue::~TMainThreadQueue() = default;

void TMainThreadQueue::Post(std::function<void()> Call) {
    QMetaObject::invokeMethod(
        &FImpl->Context,
        [Call = std::move(Call)] {
            // Shown like an exception of any handler; the loop goes on.
            try {
                Call();
            } catch (...) {
                Application->HandleException(nullptr);
            }
        },
        Qt::QueuedConnection);
}
