// What the control set's own controls tell assistive technology beyond the platform's defaults.
#include "controls/NxPanel.h"
#include "platform/windows/Accessibility.h"

namespace NxStdCtrls {

namespace {
// The tool bar panel paints a gradient and holds the buttons; to a screen reader it is a group.
class TNxPanelAccessible : public TAccessible {
public:
    using TAccessible::TAccessible;
    TAccessibleRole GetRole() const override { return arGrouping; }
};
} // namespace

std::unique_ptr<TAccessible> TNxPanel::CreateAccessible() {
    return std::make_unique<TNxPanelAccessible>(this);
}

} // namespace NxStdCtrls
