// The grabber DLL: both "WAV Trans" filters as one in-process COM server.
#include "filters/BackgroundGrabber.h"
#include "filters/CaptureGrabber.h"
#include "filters/base/Registration.h"

namespace {

const filterbase::FilterClass kClasses[] = {
    {&CLSID_CaptureWavTrans, L"WAV Trans", filterbase::CreateFilter<CaptureGrabber>, nullptr,
     MERIT_DO_NOT_USE},
    {&CLSID_BackgroundWavTrans, L"WAV Trans", filterbase::CreateFilter<BackgroundGrabber>,
     nullptr, MERIT_DO_NOT_USE},
};

}  // namespace

FILTERBASE_COM_DLL(kClasses)
