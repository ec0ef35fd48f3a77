#pragma once
// The FTP client's step numbers: a sequence names its steps as a set of these, and the client
// remembers which step a reply answers.
namespace ftpsteps {

enum Step {
    sOpen = 1,
    sUser = 2,
    sPass = 3,
    sCwd = 4,
    sSize = 5,
    sMkd = 6,
    sRmd = 7,
    sRnfr = 8,
    sRnto = 9,
    sRetr = 10,
    sList = 11,
    sQuit = 12,
    sSyst = 13,
    sDele = 14,
    sPwd = 15,
    sRaw = 16,
    sStor = 17,
    sType = 18,
    sRest = 19,
    sCdup = 20,
    sNlst = 21,
    sAppe = 22,
    sPort = 23,
};

} // namespace ftpsteps
