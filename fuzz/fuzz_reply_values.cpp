// The current-values reply as the relay and sensor views take it: relay
// states and sensor values of every model.
#include "ReplyInput.h"

#include "views/SoftInterfaceDiDoTh_Unt.h"

#include <QApplication>
#include <QTreeWidget>
#include <QWidget>

namespace {

struct TViews
{
    QWidget sheet;
    TSoftDiDoTh channels;
    QTreeWidget *lvDo = nullptr;
    QTreeWidget *lvTh[3] = {};
};

TViews *Views()
{
    static TViews *views = [] {
        auto *made = new TViews;
        made->lvDo = TSoftDiDoTh::CreateDoView(&made->sheet);
        made->channels.BuildDoRows(made->lvDo);
        const char *models[] = {"K801", "K802", "K803"};
        for (int model = 0; model < 3; ++model) {
            made->lvTh[model] = TSoftDiDoTh::CreateThView(&made->sheet);
            made->channels.BuildThRows(QString::fromLatin1(models[model]), made->lvTh[model]);
        }
        return made;
    }();
    return views;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray reply = ReplyInput(data, size, TBasicProtocol::CmdValues);
    TViews *views = Views();
    views->channels.ShowDoStatus(reply, views->lvDo);
    for (int model = 0; model < 3; ++model)
        views->channels.ShowThValues(reply, views->lvTh[model], model);
    for (int model = 0; model < 3; ++model) {
        QTreeWidget *view = views->lvTh[model];
        for (int row = 0; row < view->topLevelItemCount(); ++row) {
            // A value is at most "-3276.8".
            FUZZ_CHECK(view->topLevelItem(row)->text(TSoftDiDoTh::ThValueSubItem + 1).size() <= 7);
        }
    }
    return 0;
}
