// Command routing between the main frame and its views. A client view that
// handles commands implements CCmdTarget; the frame offers each command and
// each enabling question to the active view first, then answers itself.
#pragma once

// State of one command for one update pass.
class CCmdUI {
public:
    explicit CCmdUI(int id) : m_id(id) {}
    int GetId() const { return m_id; }
    void Enable(bool on = true) { m_enabled = on; m_handled = true; }
    void SetCheck(bool on = true) { m_checked = on; m_handled = true; }
    bool IsEnabled() const { return m_enabled; }
    bool IsChecked() const { return m_checked; }
    bool IsHandled() const { return m_handled; }

private:
    int m_id;
    bool m_enabled = false;
    bool m_checked = false;
    bool m_handled = false;
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // Runs the command; false when this target does not handle it.
    virtual bool OnCmdMsg(int id) = 0;
    // Fills the command's state; false when this target does not handle it.
    virtual bool OnUpdateCmdUI(CCmdUI &ui) = 0;
};
