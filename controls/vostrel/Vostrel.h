#pragma once

#include <QString>
#include <QVariantMap>
#include <QWidget>

#include <memory>

namespace lentaro::cd {
class DiscChangeSubscription;
struct DiscChange;
} // namespace lentaro::cd

namespace lentaro {

// The disc arrival control: a 32 x 32-pixel square with a bump edge that turns the disc-change
// source's reports into Arrival and RemoveComplete, each with the drive's letter ("E", no colon).
// While Enabled it holds a subscription of its own, so any number of instances each hear every
// change; setting Enabled to false ends the subscription at once.
class Vostrel : public QWidget
{
    Q_OBJECT

public:
    static constexpr int sidePixels = 32;

    explicit Vostrel(QWidget* parent = nullptr);
    ~Vostrel() override;

    // Whether the control listens for disc changes; true at creation. Not QWidget's enabled
    // state, which greys a widget out.
    bool Enabled() const { return enabled_; }
    void setListening(bool v);

    void DoArrival(const QString& Drive) { emit Arrival(Drive); }
    void DoRemove(const QString& Drive) { emit RemoveComplete(Drive); }

    // The About box, modal.
    void ShowAbout();

    // The control's properties as its form keeps them: reading sets Enabled (default true)
    // through setListening; writing leaves out a value equal to its default.
    void readProperties(const QVariantMap& properties);
    void writeProperties(QVariantMap& properties) const;

signals:
    void Arrival(const QString& Drive);
    void RemoveComplete(const QString& Drive);
    // Enabled was set (the form's property map is out of date).
    void propertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void discChanged(const cd::DiscChange& change);

    bool enabled_ = true;
    std::unique_ptr<cd::DiscChangeSubscription> subscription_;
};

} // namespace lentaro
