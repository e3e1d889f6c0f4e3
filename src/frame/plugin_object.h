// The COM objects the driver holds: the class factory `IOemCF` and the
// plug-in object `IOemPS`. They only keep reference counts and the driver's
// helper interfaces; every call is handed to the plug-in's own operations.
#pragma once

#include "platform/com_abi.h"

namespace tvzx::frame {

// Returns a new class factory holding one reference; null when memory runs out.
win::IClassFactory* createClassFactory();

// Returns a new plug-in object holding one reference and no helpers; null
// when memory runs out.
win::IPrintOemPS2* createPluginObject();

// Answers DllGetClassObject: a class factory for the rendering plug-in
// class, asked for `iid`. Returns E_OUTOFMEMORY for a null out,
// CLASS_E_CLASSNOTAVAILABLE for any other class, else the factory's
// QueryInterface result.
win::HRESULT getClassObject(const win::GUID* clsid, const win::GUID* iid, void** out);

}  // namespace tvzx::frame
