#include "toolkit/ScrollMotion.h"

#include <algorithm>
#include <cmath>

namespace {

// The fastest the content may run on past an end.
constexpr double MaximumOverrun = 60.0;
// A spring this close to its edge has arrived.
constexpr double SnapDistance = 0.5;

} // namespace

double ScrollMotion::End() const { return std::min(0.0, m_viewHeight - m_contentHeight); }

void ScrollMotion::Start(double viewHeight, double contentHeight, double offset, double deceleration, double speed,
                         double scale) {
    m_viewHeight = viewHeight;
    m_contentHeight = contentHeight;
    m_position = offset;
    m_deceleration = deceleration;
    m_scale = scale;
    m_velocity = speed;
    m_state = Idle;
    double end = End();
    if (speed == 0.0) {
        if (offset > 0.0)
            BeginSpring(SpringFromStart);
        else if (offset < end)
            BeginSpring(SpringFromEnd);
        else
            m_velocity = 0.0;
    } else if (speed > 0.0) {
        if (offset >= 0.0)
            m_state = PastStart;
        else if (offset < end)
            BeginSpring(SpringFromEnd); // a downward flick below the end only hurries the spring
        else
            m_state = TowardsStart;
    } else {
        if (offset > 0.0)
            BeginSpring(SpringFromStart);
        else if (offset < end)
            m_state = PastEnd;
        else
            m_state = TowardsEnd;
    }
}

void ScrollMotion::Step() {
    if (m_state == Idle)
        return;
    m_velocity *= m_scale;
    if (m_state == SpringFromEnd || m_state == SpringFromStart) {
        SpringStep();
        return;
    }
    LeaveRangeIfCrossing();
    m_position += m_velocity;
    m_velocity += Acceleration();
    SettleWhenSpent();
}

double ScrollMotion::Acceleration() const {
    double speed = std::abs(m_velocity);
    double glide = speed <= 5.0    ? 2.0
                   : speed <= 30.0 ? 4.0
                   : speed <= 60.0 ? 8.0 * m_deceleration
                                   : 12.0 * m_deceleration;
    switch (m_state) {
    case TowardsStart: return -glide;
    case TowardsEnd: return glide;
    case PastStart: return m_velocity < 2.0 ? -2.5 : -0.8 * speed;
    case PastEnd: return m_velocity > -2.0 ? 2.5 : 0.8 * speed;
    case SpringFromEnd: return -5.0;
    case SpringFromStart: return 5.0;
    case Idle: break;
    }
    return 0.0;
}

void ScrollMotion::LeaveRangeIfCrossing() {
    if (m_state == TowardsStart && m_position + m_velocity > 0.0) {
        m_state = PastStart;
        m_velocity = std::min(m_velocity, MaximumOverrun);
    } else if (m_state == TowardsEnd && m_position + m_velocity < End()) {
        m_state = PastEnd;
        m_velocity = std::max(m_velocity, -MaximumOverrun);
    }
}

void ScrollMotion::SettleWhenSpent() {
    switch (m_state) {
    case TowardsStart:
        if (m_velocity <= 0.0)
            m_state = Idle, m_velocity = 0.0;
        break;
    case TowardsEnd:
        if (m_velocity >= 0.0)
            m_state = Idle, m_velocity = 0.0;
        break;
    case PastStart:
        if (m_velocity <= 0.0)
            BeginSpring(SpringFromStart);
        break;
    case PastEnd:
        if (m_velocity >= 0.0)
            BeginSpring(SpringFromEnd);
        break;
    default: break;
    }
}

void ScrollMotion::BeginSpring(State state) {
    double edge = state == SpringFromStart ? 0.0 : End();
    double overshoot = m_position - edge;
    bool there = state == SpringFromStart ? overshoot <= SnapDistance : overshoot >= -SnapDistance;
    if (there) {
        m_position = edge;
        m_velocity = 0.0;
        m_state = Idle;
        return;
    }
    m_state = state;
    m_velocity = -overshoot / 3.0;
}

void ScrollMotion::SpringStep() {
    double edge = m_state == SpringFromStart ? 0.0 : End();
    m_position += m_velocity;
    double remaining = edge - m_position;
    bool arrived = m_state == SpringFromStart ? remaining > -SnapDistance : remaining < SnapDistance;
    if (arrived) {
        // The spring ends exactly at the edge, never beyond it.
        m_position = edge;
        m_velocity = 0.0;
        m_state = Idle;
        return;
    }
    m_velocity += Acceleration();
    // The braking would stall a short spring before the edge: it keeps at least a third
    // of the way still to go (and a pixel) per tick.
    double least = std::max(1.0, std::abs(remaining) / 3.0);
    if (m_state == SpringFromStart)
        m_velocity = std::min(m_velocity, -least);
    else
        m_velocity = std::max(m_velocity, least);
}
