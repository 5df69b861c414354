// Test-prefix stand-ins for graph filters Wine lacks: the infinite pin tee
// and the "PCM" converter of the audio compressor category. Never shipped.
#include <dshow.h>

#include "filters/base/Registration.h"
#include "standins/graphfilters/InfTee.h"
#include "standins/graphfilters/PcmConverter.h"

namespace {

const filterbase::FilterClass kClasses[] = {
    {&CLSID_InfTee, L"Infinite Pin Tee Filter", filterbase::CreateFilter<InfTee>, nullptr,
     MERIT_DO_NOT_USE},
    {&CLSID_PcmConverterStandin, L"PCM", filterbase::CreateFilter<PcmConverter>,
     &CLSID_AudioCompressorCategory, MERIT_DO_NOT_USE},
};

}  // namespace

FILTERBASE_COM_DLL(kClasses)
