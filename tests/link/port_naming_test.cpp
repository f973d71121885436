#include "link/port_naming.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace dx400;

TEST(PortNaming, LinkNamesTheDeviceOtherwiseTtyS) {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    ASSERT_TRUE(QDir().mkpath(config.path() + "/dx400/ports"));
    ASSERT_TRUE(QFile::link("/dev/ttyUSB7", config.path() + "/dx400/ports/COM4"));

    EXPECT_EQ(portLinkDirectory(), config.path() + "/dx400/ports");
    EXPECT_EQ(portName(4), "COM4");
    EXPECT_EQ(portName(10), "COM10");
    EXPECT_EQ(portDevice(4), "/dev/ttyUSB7");
    EXPECT_EQ(portDevice(1), "/dev/ttyS0");
    EXPECT_EQ(portDevice(10), "/dev/ttyS9");
}

TEST(PortNaming, ConfigHomeDefaultsToDotConfig) {
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(portLinkDirectory(), QDir::homePath() + "/.config/dx400/ports");
}
