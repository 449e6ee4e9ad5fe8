#pragma once

#include <cstdint>

// Packet ids and device commands of the receiver protocol.
namespace trekora::gps::pid {

// Link control (every link protocol).
constexpr std::uint8_t Ack = 6;
constexpr std::uint8_t Nak = 21;

// L000: every unit.
constexpr std::uint8_t ExtProductData = 248;
constexpr std::uint8_t ProtocolArray = 253;
constexpr std::uint8_t ProductRequest = 254;
constexpr std::uint8_t ProductData = 255;

// Undocumented kinds seen on real units.
constexpr std::uint8_t ScreenData = 69;
constexpr std::uint8_t SatelliteData = 114;
constexpr std::uint8_t BaudQuiet = 0x1C;    // stop unsolicited data before a rate change
constexpr std::uint8_t BaudRequest = 0x30;  // host asks for a rate (u32)
constexpr std::uint8_t BaudAccepted = 0x31; // unit answers with the rate it takes (u32)

// The numbers of one link protocol (L001 or L002).
struct LinkIds {
    std::uint8_t commandData;
    std::uint8_t xferCmplt;
    std::uint8_t dateTimeData;
    std::uint8_t positionData;
    std::uint8_t prxWptData;
    std::uint8_t records;
    std::uint8_t rteHdr;
    std::uint8_t rteWptData;
    std::uint8_t almanacData;
    std::uint8_t trkData;
    std::uint8_t wptData;
    std::uint8_t pvtData;
    std::uint8_t rteLinkData;
    std::uint8_t trkHdr;
    std::uint8_t wptCat;
};

constexpr LinkIds L001{10, 12, 14, 17, 19, 27, 29, 30, 31, 34, 35, 51, 98, 99, 152};
// L002 (old aviation units); kinds it lacks keep the L001 numbers.
constexpr LinkIds L002{11, 12, 20, 24, 19, 35, 37, 39, 4, 34, 43, 51, 98, 99, 152};

// A second track header id seen on some units.
constexpr std::uint8_t TrkHdrAlt = 222;

} // namespace trekora::gps::pid

namespace trekora::gps::cmd {

// A010 device commands (Command_Data, u16).
constexpr std::uint16_t AbortTransfer = 0;
constexpr std::uint16_t TransferAlm = 1;
constexpr std::uint16_t TransferPosn = 2;
constexpr std::uint16_t TransferPrx = 3;
constexpr std::uint16_t TransferRte = 4;
constexpr std::uint16_t TransferTime = 5;
constexpr std::uint16_t TransferTrk = 6;
constexpr std::uint16_t TransferWpt = 7;
constexpr std::uint16_t TurnOffPwr = 8;
constexpr std::uint16_t UnitId = 14;
constexpr std::uint16_t ScreenImage = 32;
constexpr std::uint16_t StartPvtData = 49;
constexpr std::uint16_t StopPvtData = 50;
constexpr std::uint16_t BaudPing = 58;
constexpr std::uint16_t TransferWptCats = 121;

} // namespace trekora::gps::cmd
