#include "frame/VROptForm.h"

#include <QWidget>

namespace kelm24 {

TVROptForm::~TVROptForm()
{
    BeginDestroy();
}

void TVROptForm::DoShow()
{
    if (OnShow) OnShow(Window());
}

void TVROptForm::DoHide()
{
    if (OnHide) OnHide(Window());
}

void TVROptForm::BeginDestroy(QObject* Sender)
{
    if (destroying_) return;
    destroying_ = true;
    if (OnDestroy) OnDestroy(Sender);
}

}  // namespace kelm24
