#pragma once

#include "schedulingform.h"

namespace mivo::workflow
{

/// The scheduling form of new requests (mode "U"): request fields and the planning grid in
/// its own panel, the window maximised.
class Tadatfelv2fm : public SchedulingForm
{
    Q_OBJECT
public:
    explicit Tadatfelv2fm(QWidget* parent = nullptr);
    void initialise() override;
};

} // namespace mivo::workflow
