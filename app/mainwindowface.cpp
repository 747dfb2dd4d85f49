#include "app/mainwindowface.h"

namespace lentaro {

namespace {

class NoMainWindow : public MainWindowFace
{
public:
    void setEnabled(bool) override {}
    void setTrackInfoVisible(TrackInfo, bool) override {}
    void comeForward() override {}
};

} // namespace

Service<MainWindowFace> mainWindowFace{madeAtFirstUse<NoMainWindow>};

} // namespace lentaro
