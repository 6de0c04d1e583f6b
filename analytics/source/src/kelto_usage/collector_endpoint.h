#pragma once

namespace kelto::usage {

// The maker's usage-event collector, used when the configuration names none.
inline constexpr char kDefaultCollectorUrl[] = "https://collector.glintcap.example/collect?project=pc";

}  // namespace kelto::usage
