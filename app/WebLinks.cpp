// Creator web links: the browser is found once at start and handed the address.
#include "app/MainUnit.h"
#include "common/Errors.h"
#include "common/MySysU.h"
#include "common/SjisTexts.h"

void TOrvaneFM::FindBrowser() {
    const std::string probe = ProgramDir + "z.html";
    bool wrote = false;
    if (!Os.FileExists(probe)) {
        if (!Os.WriteFile(probe, "IniName\r\n"))
            throw EError(Format(sjis::kCannotCreateFile, Os.Utf8ToSjis(probe).c_str()));
        wrote = true;
    }
    BrowserPath = Os.FindExecutable(probe);
    // A probe that was already there is the user's file and stays.
    if (wrote) Os.DeleteFile(probe);
}

void TOrvaneFM::OpenLink(const std::string& address) {
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
