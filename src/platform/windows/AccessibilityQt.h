#pragma once
// Private to platform code: the window side's part in the accessibility bridge.

class QWidget;

// Drops the accessibility interface kept for a widget that is going away. Needed where the widget's
// signals are cut before it dies, as Qt forgets an interface only on the widget's destroyed signal.
void ForgetAccessibleWidget(QWidget* Widget);
