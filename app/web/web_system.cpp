#include "app/web/web_system.h"

#include "app/web/page.h"

namespace qvl {

LocalTime WebSystem::Now() {
  int parts[6];
  page::LocalNow(parts);
  return {parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]};
}

int WebSystem::MsToNextSecond() {
  return page::MsToNextSecond();
}

void WebSystem::OpenAddress(std::string_view address) {
  page::OpenTab(address);
}

}  // namespace qvl
