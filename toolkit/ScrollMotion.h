#pragma once
// Turns a flick speed into content offsets, one per 10 ms tick: the content glides and
// slows down inside its range, runs on a little past an end and springs back to it.
//
// Offsets are top positions: 0 is the start, E = view height - content height the end
// (E < 0 when the content is taller; content shorter than the view has its end at 0 as
// well). Offsets above 0 lie past the start, below E past the end.
//
// A plain value owned by one scrolling control.

class ScrollMotion {
public:
    enum State {
        Idle = 0,
        TowardsStart = 1,    // inside the range, velocity > 0
        TowardsEnd = 2,      // inside the range, velocity < 0
        PastStart = 3,       // running on past the start, slowing fast
        PastEnd = 4,         // running on past the end
        SpringFromEnd = 5,   // coming back up to the end
        SpringFromStart = 6, // coming back down to the start
    };

    // Chooses the state from the speed and where the offset lies.
    void Start(double viewHeight, double contentHeight, double offset, double deceleration, double speed, double scale);
    // One 10 ms tick.
    void Step();
    bool IsIdle() const { return m_state == Idle; }
    State GetState() const { return m_state; }
    double Velocity() const { return m_velocity; }
    // The current offset itself (the start offset plus what the motion has travelled),
    // counted from the start of the range: a control sets its top position to its
    // header offset plus this.
    double Position() const { return m_position; }
    double End() const;

private:
    double Acceleration() const;
    // A step that would leave the range in state 1 or 2 runs on past the end, at a capped
    // velocity.
    void LeaveRangeIfCrossing();
    // States 1 and 2 stop when the velocity has died out; 3 and 4 spring back then.
    void SettleWhenSpent();
    void BeginSpring(State state);
    void SpringStep();

    State m_state = Idle;
    double m_viewHeight = 0, m_contentHeight = 0;
    double m_velocity = 0;
    double m_position = 0;
    double m_deceleration = 0;
    double m_scale = 1.0;
};
