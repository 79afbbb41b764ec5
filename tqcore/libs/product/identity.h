// The product's fixed identity: its maker, web and documentation addresses, the path component
// of its directories and its version.
#pragma once

namespace product {

inline constexpr const char* CompanyName = "Quorvel Ltd.";
inline constexpr const char* PathComponent = "kbx";
inline constexpr const char* WebAddress = "https://www.quorvel.example";
// Takes the first component of the short version ("0" for "0.1").
inline constexpr const char* AcknowledgementsAddressFormat =
    "https://www.quorvel.example/docs/%s/acknowledgements";
inline constexpr const char* DefaultVersion = "0.1";

} // namespace product
