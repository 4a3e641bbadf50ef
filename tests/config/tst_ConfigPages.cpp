#include "config/ConfigImage_Unt.h"
#include "config/ConfigPages_Unt.h"
#include "link/MasterProtocol_Unt.h"

#include <QTest>

namespace {

// An image whose every byte tells its offset apart from its neighbours.
TDataPack CountingImage()
{
    TDataPack image(ConfigMap::ImageSize, '\0');
    for (int offset = 0; offset < image.size(); ++offset)
        image[offset] = char((offset * 7 + offset / 256) & 0xFF);
    return image;
}

} // namespace

class TestConfigPages : public QObject
{
    Q_OBJECT

private slots:
    void writePages_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("imageBytes");
        QTest::newRow("first page") << 0 << 256;
        QTest::newRow("page 13, last full one") << 13 << 256;
        QTest::newRow("page 14, the last 62 image bytes") << 14 << 62;
        QTest::newRow("page 15, nothing of the image") << 15 << 0;
    }
    void writePages()
    {
        QFETCH(int, page);
        QFETCH(int, imageBytes);
        const TDataPack image = CountingImage();
        const TDataPack data = ConfigPages::WritePage(image, page);
        QCOMPARE(data.size(), 256);
        QCOMPARE(data.left(imageBytes), image.mid(page * 256, imageBytes));
        QCOMPARE(data.mid(imageBytes), QByteArray(256 - imageBytes, char(0xFF)));
    }

    void writeSendsSixteenFullFrames()
    {
        QCOMPARE(ConfigPages::WritePageCount, 16);
        const TDataPack image = CountingImage();
        QByteArray sent;
        for (int page = 0; page < ConfigPages::WritePageCount; ++page) {
            const TDataPack frame =
                TMasterProtocol().ConfigWriteRequest(quint8(page), ConfigPages::WritePage(image, page));
            QCOMPARE(frame.size(), 265);
            sent += frame.mid(8, 256);
            if (page == ConfigPages::WritePageCount - 1)
                QCOMPARE(frame.mid(2, 4).toHex(' '), QByteArray("00 00 0f 00"));
        }
        QCOMPARE(sent.left(ConfigMap::ImageSize), image);
        QCOMPARE(sent.mid(ConfigMap::ImageSize), QByteArray(16 * 256 - ConfigMap::ImageSize, char(0xFF)));
    }

    void readGathersFifteenPages()
    {
        QCOMPARE(ConfigPages::ReadPageCount * ConfigPages::PageSize >= ConfigMap::ImageSize, true);
        const TDataPack device = CountingImage() + QByteArray(15 * 256 - ConfigMap::ImageSize, char(0xFF));
        TConfigPageBuffer buffer;
        // Replies may come in any order; each lands at its own place.
        for (int page = ConfigPages::ReadPageCount - 1; page >= 0; --page) {
            QCOMPARE(buffer.IsComplete(), false);
            QVERIFY(buffer.SetPage(page, device.mid(page * 256, 256)));
        }
        QVERIFY(buffer.IsComplete());
        QCOMPARE(buffer.Image(), device);
        QVERIFY(DecodeImage(buffer.Image(), 0).Ok());
    }

    void refusedPages_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("payloadSize");
        QTest::newRow("cut reply") << 3 << 200;
        QTest::newRow("empty reply") << 0 << 0;
        QTest::newRow("too long") << 2 << 265;
        QTest::newRow("page 15 is not read") << 15 << 256;
        QTest::newRow("negative page") << -1 << 256;
    }
    void refusedPages()
    {
        QFETCH(int, page);
        QFETCH(int, payloadSize);
        TConfigPageBuffer buffer;
        QVERIFY(!buffer.SetPage(page, QByteArray(payloadSize, 'x')));
        QCOMPARE(buffer.MissingPage(), 0);
        QVERIFY(!buffer.HasPage(page));
    }

    void missingPageIsReported()
    {
        TConfigPageBuffer buffer;
        for (int page = 0; page < ConfigPages::ReadPageCount; ++page) {
            if (page != 6)
                QVERIFY(buffer.SetPage(page, QByteArray(256, char(page))));
        }
        QCOMPARE(buffer.MissingPage(), 6);
        QVERIFY(buffer.Image().isEmpty());
        QCOMPARE(DecodeImage(buffer.Image(), 0).Error.Code, TConfigErrorCode::ImageTooShort);
        QVERIFY(buffer.SetPage(6, QByteArray(256, char(6))));
        QCOMPARE(buffer.MissingPage(), -1);
        QCOMPARE(buffer.Image().mid(6 * 256, 256), QByteArray(256, char(6)));
        buffer.Clear();
        QCOMPARE(buffer.MissingPage(), 0);
        QVERIFY(!buffer.HasPage(7));
    }
};

QTEST_GUILESS_MAIN(TestConfigPages)
#include "tst_ConfigPages.moc"
