#include "DefaultDeviceChecks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string text(const CountedString &s)
{
    return std::string(reinterpret_cast<const char *>(s.bytes + 1), s.bytes[0]);
}

} // namespace

void expectDefaultIdentity(PortHandle &port)
{
    uint8_t units = 0, value = 0;
    EXPECT_TRUE(CCGet_Polling(&port, 2, &units, &value));
    EXPECT_EQ(units, 2);
    EXPECT_EQ(value, 20);
    EXPECT_EQ(CCGet_Status(&port, 2), 0);
    EXPECT_EQ(CCGet_DB(&port, 2), 3);
    EXPECT_EQ(CCGet_Serial_Number(&port, 2), 1234567);
    EXPECT_EQ(CCGet_Adress_Mode(&port, 2), 0x84);

    CountedString s{};
    CCGet_Manufacturer(&s, &port, 2);
    EXPECT_EQ(text(s), "Virtual Validators");
    CCGet_Equipement(&s, &port, 2);
    EXPECT_EQ(text(s), "Coin Acceptor");
    CCGet_Product(&s, &port, 2);
    EXPECT_EQ(text(s), "CV-16");
    CCSoftVersion(&s, &port, 2);
    EXPECT_EQ(text(s), "V1.04");
    CCGet_BuildCode(&s, &port, 2);
    EXPECT_EQ(text(s), "STD01");

    uint8_t three[3] = {};
    EXPECT_TRUE(CCGet_cctalk_Version(&port, 2, three));
    EXPECT_EQ(std::vector<uint8_t>(three, three + 3), (std::vector<uint8_t>{1, 4, 6}));
}

void expectDefaultDates(PortHandle &port)
{
    EXPECT_EQ(CCRequest_Base_Year(&port, 2), 2000);
    uint16_t year = 0, month = 0, day = 0;
    EXPECT_TRUE(CCGet_Manufacturing_Date(&port, 2, &year, &month, &day));
    EXPECT_EQ(std::vector<uint16_t>({year, month, day}), (std::vector<uint16_t>{2019, 3, 15}));
    EXPECT_TRUE(CCGet_Modification_Date(&port, 2, &year, &month, &day));
    EXPECT_EQ(std::vector<uint16_t>({year, month, day}), (std::vector<uint16_t>{2024, 6, 2}));
}
