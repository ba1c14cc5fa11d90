// Every exported header of the library.
#pragma once

#include "CKesmar.h"
#include "CKesmarBehaviour.h"
#include "COtxBool.h"
#include "COtxException.h"
#include "COtxFloat.h"
#include "COtxInt.h"
#include "COtxList.h"
#include "COtxMap.h"
#include "COtxOperatorBehaviours.h"
#include "COtxString.h"
#include "COtxStringEncoding.h"
#include "KesmarExport.h"
#include "OtxGeneric.h"
#include "OtxInterfaces.h"
#include "PelmUtils.h"
