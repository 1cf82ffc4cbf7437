#pragma once
// The gauge interface the paint pass works through.

#include <windows.h>

class Monitor {
public:
    virtual int addSample(double sample) = 0;
    virtual RECT getRect() = 0;
    virtual void draw(HDC dc, int x, int y) = 0;

protected:
    // Gauges live for the whole process and are never deleted, least of all
    // through this interface, so the destructor is neither virtual nor public.
    ~Monitor() = default;
};
