#pragma once
// The cause of a failed transfer, told from what the library reports.
#include <string>

#include "fetch/FetchFailure.h"

namespace pomurina {

// What a failed transfer left to go by.
struct TransferTrace {
    int code = 0;  // libcurl's result (CURLcode)
    FetchProtocol protocol = FetchProtocol::Ftp;
    bool passive = false;
    bool connected = false;   // the server's port was reached
    long systemError = 0;     // the last system error of the connection
    std::string lastRefusal;  // the FTP server's last 4xx or 5xx reply
};

FetchFailure FailureCause(const TransferTrace& trace);

}  // namespace pomurina
