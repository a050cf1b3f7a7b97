#pragma once
// Private to platform code: the window side's part in the accessibility bridge.

class QAccessibleEvent;
class QAccessibleInterface;
class QWidget;

// Drops the accessibility interface kept for a widget that is going away. Needed where the widget's
// signals are cut before it dies, as Qt forgets an interface only on the widget's destroyed signal.
void ForgetAccessibleWidget(QWidget* Widget);
// Sends the events the bridge has filtered (typed text of masked fields made masks) to Sink
// instead of the desktop bus, as if a client listened; null goes back to the bus. For tests.
void SetAccessibleEventSink(void (*Sink)(QAccessibleEvent*));
// Hands an event on as Qt does while a client listens: through the bridge's filter (with a sink set,
// to the sink). Qt drops its widgets' own events while none listens; tests replay them with this.
void HandAccessibleEvent(QAccessibleEvent* Event);
// Puts the selection and table cell interfaces on the desktop accessibility bus beside Qt's own,
// once a client listens. Called as the bridge is installed.
void HookAccessibilityBus();
// Tells bus clients that the selection within a table changed.
void AnnounceSelectionOnBus(QAccessibleInterface* Table);
