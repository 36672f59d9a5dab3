#pragma once
#include <istream>
#include <ostream>
#include <string>

#include "platform/headless/HeadlessPlatform.h"

class TOrvaneFM;

// Runs the real program on the headless backend from a script, one command a line, and
// writes one JSON object a line for each command that reports something.
class TScriptDriver {
public:
    TScriptDriver(THeadlessPlatform& os, std::istream& in, std::ostream& out, std::ostream& err);
    // Runs the whole script; returns the process exit code.
    int Run();

private:
    bool Command(const std::string& line);  // false on a script error
    void LoopBody();
    void StateJson();
    void MouseDown(int button, int x, int y, const TShiftState& shift);
    void MouseUp(int button, int x, int y, const TShiftState& shift);
    void MouseMove(int x, int y);
    void Tick(int ms);
    TOrvaneFM* Form() const;
    template <typename F>
    void Dispatch(F f);

    THeadlessPlatform& Os;
    std::istream& In;
    std::ostream& Out;
    std::ostream& Err;
    bool Started = false;
    bool Ended = false;
    int ExitCode = 0;
    bool ScriptError = false;
    int LastX = 206, LastY = 298;
    int LineNumber = 0;
};
