#include "link/port_description.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dx400;

namespace {

struct FormatCase {
    const char* what;
    QString device;
    QString resolved;
    std::optional<SystemPortInfo> info;
    QString expected;
};

SystemPortInfo usbAdapter() {
    SystemPortInfo info;
    info.location = QStringLiteral("/dev/ttyUSB0");
    info.description = QStringLiteral("FT232R USB UART");
    info.manufacturer = QStringLiteral("FTDI");
    info.serialNumber = QStringLiteral("A50285BI");
    info.vendorId = 0x0403;
    info.productId = 0x6001;
    return info;
}

SystemPortInfo vendorOnly() {
    SystemPortInfo info;
    info.location = QStringLiteral("/dev/ttyUSB1");
    info.vendorId = 0x1a86;
    return info;
}

SystemPortInfo emptyInfo() {
    SystemPortInfo info;
    info.location = QStringLiteral("/dev/ttyS0");
    return info;
}

} // namespace

TEST(PortDescription, FormatsWhatIsKnown) {
    const FormatCase cases[] = {
        {"missing device", "/dev/ttyS3", "", std::nullopt,
         QStringLiteral("/dev/ttyS3\n장치 없음 (no such device)")},
        {"device as it is", "/dev/pts/4", "/dev/pts/4", std::nullopt, "/dev/pts/4"},
        {"link resolved", "/dev/serial/by-id/usb-FTDI", "/dev/ttyUSB0", std::nullopt,
         QStringLiteral("/dev/serial/by-id/usb-FTDI\n→ /dev/ttyUSB0")},
        {"everything known", "/dev/ttyUSB0", "/dev/ttyUSB0", usbAdapter(),
         QStringLiteral("/dev/ttyUSB0\nFT232R USB UART\n제조사 (manufacturer): FTDI\n"
                        "USB 0403:6001\nS/N A50285BI")},
        {"vendor id alone, padded", "/dev/ttyUSB1", "/dev/ttyUSB1", vendorOnly(),
         "/dev/ttyUSB1\nUSB 1a86:????"},
        {"nothing known", "/dev/ttyS0", "/dev/ttyS0", emptyInfo(), "/dev/ttyS0"},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(formatPortDescription(c.device, c.resolved, c.info ? &*c.info : nullptr),
                  c.expected);
    }
}

TEST(PortDescription, FindsTheSystemPortByResolvedLocation) {
    SystemPortInfo unnamed;
    const std::vector<SystemPortInfo> ports = {emptyInfo(), usbAdapter(), vendorOnly(), unnamed};
    struct Case {
        QString resolved;
        const SystemPortInfo* expected;
    };
    const Case cases[] = {
        {"/dev/ttyUSB0", &ports[1]},
        {"/dev/ttyUSB1", &ports[2]},
        {"/dev/ttyS0", &ports[0]},
        {"/dev/ttyUSB", nullptr}, // a prefix is not a match
        {"/dev/ttyACM0", nullptr},
        {"", nullptr}, // nothing there matches nothing, not an entry without a location
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.resolved.toStdString());
        EXPECT_EQ(findSystemPort(c.resolved, ports), c.expected);
    }
}

TEST(PortDescription, DescribesADeviceThroughItsLinks) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("tty-target"));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QString link = dir.filePath(QStringLiteral("COM4"));
    ASSERT_TRUE(QFile::link(target, link));
    const QString canonical = QFileInfo(target).canonicalFilePath();

    EXPECT_EQ(describePort(link), link + QStringLiteral("\n→ ") + canonical);
    EXPECT_EQ(describePort(canonical), canonical);
    const QString missing = dir.filePath(QStringLiteral("gone"));
    EXPECT_EQ(describePort(missing), missing + QStringLiteral("\n장치 없음 (no such device)"));
    ASSERT_TRUE(QFile::link(missing, dir.filePath(QStringLiteral("dangling"))));
    EXPECT_EQ(describePort(dir.filePath(QStringLiteral("dangling"))),
              dir.filePath(QStringLiteral("dangling")) +
                  QStringLiteral("\n장치 없음 (no such device)"));
}
