#include "platform/OpticalDrive.h"

#include <gtest/gtest.h>
#include <QDir>

using namespace tarnwick;

TEST(OpticalDrive, TheManageDefaultLiesOnTheFirstMountedDiscOrInTheInstallation) {
    const QString sep = QDir::separator();
    const QString withDiscs =
        QStringLiteral("proc /proc proc rw,nosuid 0 0\n"
                       "/dev/sdb1 /media/user/USB\\040STICK vfat rw 0 0\n"
                       "/dev/sr0 /media/user/Photo\\040Series iso9660 ro,nosuid 0 0\n"
                       "/dev/sr1 /media/user/SECOND udf ro 0 0\n");
    const QString local = QStringLiteral("/opt/tarnwick/PhotoImages");
    EXPECT_EQ(manageDefaultPhotoDirFor(withDiscs, local),
              QStringLiteral("/media/user/Photo Series") + sep + QStringLiteral("photoimages") +
                  sep);
    // A disc image on a loop device is known by its file system; a drive by its device name.
    EXPECT_EQ(firstOpticalMountPoint(QStringLiteral("/dev/sda1 / ext4 rw 0 0\n"
                                                    "/dev/loop3\t/mnt/disc\tudf\tro\t0 0\n")),
              QStringLiteral("/mnt/disc"));
    EXPECT_EQ(firstOpticalMountPoint(QStringLiteral("/dev/cdrom /cdrom auto ro 0 0\n")),
              QStringLiteral("/cdrom"));

    const QString noDiscs = QStringLiteral("/dev/nvme0n1p2 / btrfs rw 0 0\n"
                                           "/dev/srv /srv ext4 rw 0 0\n"
                                           "garbage line\n");
    EXPECT_EQ(firstOpticalMountPoint(noDiscs), QString());
    // Without a disc, the installation's own folder, absolute and ending with a separator.
    EXPECT_EQ(manageDefaultPhotoDirFor(noDiscs, local), local + sep);
    EXPECT_EQ(manageDefaultPhotoDirFor(noDiscs, local + sep), local + sep);
}

TEST(OpticalDrive, AFileOnAMountedDiscIsKnownByItsMountPoint) {
    const QString mounts = QStringLiteral("/dev/sda1 / ext4 rw 0 0\n"
                                          "/dev/sr0 /media/user/Photo\\040Series iso9660 ro 0 0\n");
    EXPECT_TRUE(isOnOpticalDisc(QStringLiteral("/media/user/Photo Series/data/a.pr3"), mounts));
    EXPECT_FALSE(isOnOpticalDisc(QStringLiteral("/media/user/Photo Series2/a.pr3"), mounts));
    EXPECT_FALSE(isOnOpticalDisc(QStringLiteral("/home/user/a.pr3"), mounts));
}
