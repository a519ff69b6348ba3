#include "components/OneInstance.h"

const char kOneInstanceRunning[] = "Another instance of this application appears to be running. "
                                   "You must \r\nclose any previous instances before continuing. ";
const char kOneInstanceRunningOn[] = "Another instance of this application appears to be running!";

std::string InstanceMutexName(const std::string& ExePath) {
    return LowerCaseAscii(ExePath.substr(ExePath.find_last_of("\\/") + 1));
}

std::string OneInstanceErrorText(const std::string& Step, const std::string& Cause) {
    return Step + " An Exception was raised " + "with the message : " + Cause;
}
