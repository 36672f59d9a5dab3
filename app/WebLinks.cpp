// Creator web links: the browser is found once at start and handed the address.
#include "app/MainUnit.h"
#include "common/Errors.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"

void TOrvaneFM::FindBrowser() {
    // The probe is written during the start, where a folder that cannot take it stops
    // the start. The shell is asked about it once the window is on the screen
    // (LookUpBrowser): loading the shell takes longer than anything the first frame
    // waits for.
    BrowserProbe = ProgramDir + "z.html";
    BrowserProbeWritten = false;
    BrowserLookupDue = false;
    if (!Os.FileExists(BrowserProbe)) {
        if (!Os.WriteFile(BrowserProbe, "IniName\r\n"))
            throw EError(Format(sjis::kCannotCreateFile, Os.Utf8ToSjis(BrowserProbe).c_str()));
        BrowserProbeWritten = true;
    }
    BrowserLookupDue = true;
}

void TOrvaneFM::LookUpBrowser() {
    if (!BrowserLookupDue) return;
    BrowserLookupDue = false;
    BrowserPath = Os.FindExecutable(BrowserProbe);
    DropBrowserProbe();
}

void TOrvaneFM::DropBrowserProbe() {
    // A probe that was already there is the user's file and stays.
    if (BrowserProbeWritten) Os.DeleteFile(BrowserProbe);
    BrowserProbeWritten = false;
    BrowserLookupDue = false;
}

void TOrvaneFM::OpenLink(const std::string& address) {
    // Never before the lookup, even for a link followed before the window was shown.
    LookUpBrowser();
    if (BrowserPath.empty())
        OpenLinkByShell(address);
    else
        OpenLinkInBrowser(address);
}

void TOrvaneFM::OpenLinkByShell(const std::string& address) {
    Os.ShellOpen(address);
}

void TOrvaneFM::OpenLinkInBrowser(const std::string& address) {
    const std::string commandLine = ("/url " + address).substr(0, 255);
    Os.StartProcess(BrowserPath, commandLine);
}
