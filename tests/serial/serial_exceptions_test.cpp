#include "serial/serial_exceptions.h"
#include "serial/string_resource.h"

#include <gtest/gtest.h>

#include "platform/classes/component.h"

namespace {

template <class E>
void ExpectRaises(int code, const std::string& message, int error_code) {
    try {
        CheckException(nullptr, code);
        ADD_FAILURE() << "no exception for " << code;
    } catch (const E& e) {
        EXPECT_EQ(message, e.Message()) << code;
        if constexpr (std::is_base_of_v<ESerialException, E> || std::is_same_v<EInOutError, E>) {
            EXPECT_EQ(error_code, e.ErrorCode) << code;
        }
    } catch (const std::exception& e) {
        ADD_FAILURE() << code << " raised the wrong class: " << e.what();
    }
}

}  // namespace

TEST(CheckException, PassesNonNegativeCodesAndStaysQuietWhileLoading) {
    EXPECT_EQ(0, CheckException(nullptr, 0));
    EXPECT_EQ(7, CheckException(nullptr, 7));
    TComponent loading(nullptr);
    loading.IncludeState(csLoading);
    EXPECT_EQ(-2007, CheckException(&loading, -2007));
}

TEST(CheckException, AnswersEveryCodeFamilyWithItsClassAndText) {
    ExpectRaises<EInOutError>(-5, "File access denied", 5);
    ExpectRaises<EInOutError>(-2, "File not found", 2);
    ExpectRaises<EInOutError>(-87, "The parameter is incorrect.", 87);  // the system's text
    ExpectRaises<EOutOfMemory>(-8, "Out of memory", 0);
    ExpectRaises<ESerialException>(-1001, "Serial exception", 0);
    ExpectRaises<EBadArgument>(-1002, "Bad argument passed to function", -1002);
    ExpectRaises<EGeneral>(-1006, "Internal error creating window class", -1006);
    ExpectRaises<EBadId>(-2001, "ie_BadId - Specified comport doesn't exist", -2001);
    ExpectRaises<ECommNotOpen>(-2007, "ie_NOpen - device not open", -2007);
    ExpectRaises<EAlreadyOpen>(-2008, "ie_Open - device already open", -2008);
    ExpectRaises<ENoPortSelected>(-2011, "The ComNumber property of the TSerComPort has not been set", -2011);
    ExpectRaises<EOpenComm>(-2012, "Comport was not opened by Tapi", -2012);
    ExpectRaises<ESerialException>(-3002, "Serial exception", 0);
    ExpectRaises<EOutputBufferTooSmall>(-3006, "Output buffer too small for block", -3006);
    ExpectRaises<EBufferIsEmpty>(-3007, "Buffer is empty", -3007);
    ExpectRaises<ESerialIO>(-3010, "Base address not set", -3010);
    ExpectRaises<EModemStatusMismatch>(-4008, "Wrong modem status requested", -4008);
    ExpectRaises<ESerialException>(-5001, "Serial exception", 0);
    ExpectRaises<EBadTriggerHandle>(-5003, "Bad trigger handle", -5003);
    ExpectRaises<EProtocol>(-6006, "Fatal time out", -6006);
    ExpectRaises<ESerialException>(-6007, "Serial exception", 0);
    ExpectRaises<EINI>(-7001, "", -7001);
    ExpectRaises<EInternal>(-7003, "", -7003);
    ExpectRaises<EFax>(-8070, "", -8070);
    ExpectRaises<ETapiAllocated>(-13801, "", -13801);
    ExpectRaises<ESerialException>(-13804, "Serial exception", 0);
    ExpectRaises<ETapiInvalMessageID>(-13848, "", -13848);
    ExpectRaises<ETapiInvalParam>(-13850, "", -13850);
    ExpectRaises<ETapiNoMultipleInstance>(-13886, "", -13886);
    ExpectRaises<ETapiTranslateFail>(-13942, "", -13942);
    ExpectRaises<ETapi>(-13928, "", -13928);
}

TEST(StringResource, LooksUpByIdAndRejectsBrokenTables) {
    const auto& table = SerialErrorStrings();
    EXPECT_EQ("Buffer is empty", table.GetString(3007));
    EXPECT_EQ("", table.GetString(3500));  // between two ids
    EXPECT_EQ("OK", table.GetString(0));

    RegisterRawResource("TEST_TABLE", BuildStringTable({{7, "sieben"}, {3, "drei \xC3\xA4"}}));
    TAdStringResource test("TEST_TABLE");
    EXPECT_EQ("drei \xC3\xA4", test.GetString(3));
    EXPECT_EQ("sieben", test.GetString(7));
    test.RaiseOnMissing = true;
    try {
        test.GetString(5);
        ADD_FAILURE();
    } catch (const ETpsStringResourceError& e) {
        EXPECT_EQ("String not found: 5", e.Message());
    }
    RegisterRawResource("TEST_TABLE", "STRX\0\0\0\0");
    try {
        TAdStringResource broken("TEST_TABLE");
        ADD_FAILURE();
    } catch (const ETpsStringResourceError& e) {
        EXPECT_EQ("Invalid TPString resource", e.Message());
    }
    UnregisterRawResource("TEST_TABLE");
    try {
        TAdStringResource missing("TEST_TABLE");
        ADD_FAILURE();
    } catch (const ETpsStringResourceError& e) {
        EXPECT_EQ("String resource not found: TEST_TABLE", e.Message());
    }
}
