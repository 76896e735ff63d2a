#include "HeaderNames.h"

std::string headerName(uint8_t header)
{
    switch (header) {
    case 0: return "reply";
    case 1: return "reset device";
    case 2: return "comms status";
    case 3: return "clear comms status";
    case 4: return "comms revision";
    case 5: return "NAK";
    case 6: return "BUSY";
    case 169: return "address mode";
    case 170: return "base year";
    case 184: return "coin id";
    case 185: return "modify coin id";
    case 192: return "build code";
    case 195: return "modification date";
    case 196: return "creation date";
    case 209: return "sorter path";
    case 210: return "modify sorter path";
    case 212: return "coin position";
    case 213: return "option flags";
    case 225: return "accept counter";
    case 226: return "insertion counter";
    case 227: return "master inhibit status";
    case 228: return "modify master inhibit";
    case 229: return "read event buffer";
    case 230: return "inhibit status";
    case 231: return "modify inhibit status";
    case 232: return "perform self-check";
    case 233: return "latch output lines";
    case 236: return "opto states";
    case 237: return "input lines";
    case 238: return "test output lines";
    case 240: return "test solenoids";
    case 241: return "software revision";
    case 242: return "serial number";
    case 243: return "database version";
    case 244: return "product code";
    case 245: return "equipment category";
    case 246: return "manufacturer";
    case 247: return "variable set";
    case 248: return "status";
    case 249: return "polling priority";
    case 250: return "address random";
    case 251: return "address change";
    case 252: return "address clash";
    case 253: return "address poll";
    case 254: return "simple poll";
    case 255: return "factory set-up and test";
    default: return "header " + std::to_string(header);
    }
}
