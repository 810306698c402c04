#include "desk/desk_services.h"

#include <ctime>

#include <QDesktopServices>

void UseSystemClocksAndDesktop(DeskServices& services) {
    services.today = [] {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return std::chrono::year_month_day{
            std::chrono::year{local.tm_year + 1900},
            std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
            std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
    };
    services.wallClock = [] { return std::chrono::system_clock::now(); };
    services.steadyClock = [] { return std::chrono::steady_clock::now(); };
    services.openFolder = [](const QString& folder) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    };
    services.openUrl = [](const QUrl& address) { QDesktopServices::openUrl(address); };
}
