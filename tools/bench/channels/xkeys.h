#pragma once
// Keys for another program's window on an X display, as a user would press
// them: the window is given the input focus, then each key goes to
// whichever window holds the focus.
#include <QString>
#include <sys/types.h>

typedef struct _XDisplay Display;

class XKeys {
public:
    XKeys();
    ~XKeys();
    XKeys(const XKeys&) = delete;
    XKeys& operator=(const XKeys&) = delete;

    bool Open() const { return m_display != nullptr; }
    // The shown top-level window of process pid whose title holds title.
    unsigned long FindWindow(pid_t pid, const QString& title) const;
    void Focus(unsigned long window);
    // A key by its X name ("l", "Return"), with Control held if asked.
    void Press(const char* keyName, bool control = false);
    void Type(const QString& text);

private:
    void Send(unsigned keycode, unsigned state);

    Display* m_display = nullptr;
};
