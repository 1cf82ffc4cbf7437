// WindowState: the decisions behind every move of the main window, as plain
// functions of its state and the event.

#include "ui/WindowState.h"

#include <cstdint>

namespace {

Move moveTo(MoveKind kind, const WindowPlan& plan, const ScreenRect& window, bool storesPlace = false)
{
    return {kind, plan, !(plan.rect == window), storesPlace};
}

// Where a drag step puts the window, as a plan of its own.
WindowPlan planOf(const DragPlan& drag)
{
    const DragStep& step = drag.step;
    return {drag.layout, {step.x, step.y, saturate32(std::int64_t{step.x} + drag.layout.width),
                          saturate32(std::int64_t{step.y} + drag.layout.height)}};
}

// value x to / from, rounded half away from zero, as MulDiv does.
std::int32_t rescaled(std::int32_t value, int from, int to)
{
    if (from <= 0)
        return value;
    const std::int64_t product = std::int64_t{value} * to;
    const std::int64_t half = from / 2;
    const std::int64_t quotient = product >= 0 ? (product + half) / from : -((half - product) / from);
    return saturate32(quotient);
}

} // namespace

Move followBack(const WindowState& state, const ScreenRect& window)
{
    return moveTo(MoveKind::FollowBack, planWindow(state.stripCount, state.monitors, window, state.scale()), window);
}

Move afterDisplayChange(const WindowState& state, ScreenPoint stored, const ScreenRect& window)
{
    return moveTo(MoveKind::DisplayChange, planWindowAt(state.stripCount, state.monitors, stored, state.scale()),
                  window);
}

DragMove dragStepTo(const WindowState& state, ScreenPoint cursor)
{
    const DragPlan plan = planDrag(state.stripCount, state.monitors, cursor, state.drag.offset, state.scale());
    return {{MoveKind::DragStep, planOf(plan), plan.step.move, true}, plan.step.reanchor};
}

Move afterDpiChange(const WindowState& state, WindowScale scale, const ScreenRect& suggested,
                    const ScreenRect& window)
{
    if (state.drag.active) {
        const DragPlan plan = planDrag(state.stripCount, state.monitors, state.drag.cursor, state.drag.offset, scale);
        if (plan.step.move)
            return moveTo(MoveKind::DpiChange, planOf(plan), window, true);
    }
    return moveTo(MoveKind::DpiChange,
                  planWindowAt(state.stripCount, state.monitors, {suggested.left, suggested.top}, scale), window);
}

DragState rescaledDrag(const DragState& drag, int fromDpi, int toDpi)
{
    DragState scaled = drag;
    scaled.offset = {rescaled(drag.offset.x, fromDpi, toDpi), rescaled(drag.offset.y, fromDpi, toDpi)};
    return scaled;
}
