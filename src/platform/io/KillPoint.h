#pragma once

// Named moments in the write and swap paths (between two renames, after a
// temporary file is whole, ...) at which a test can stop the program as a
// kill would, to check that start-up finds the old files or the new ones
// whole. Outside tests no hook is set and reaching a point costs one test.
class KillPoint
{
public:
    using Hook = void (*)(const char *point);

    static void reach(const char *point)
    {
        if (s_hook)
            s_hook(point);
    }
    static void setHook(Hook hook) { s_hook = hook; }

private:
    static inline Hook s_hook = nullptr;
};
