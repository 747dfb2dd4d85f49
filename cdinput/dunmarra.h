#ifndef LENTARO_DUNMARRA_H
#define LENTARO_DUNMARRA_H

/* Dunmarra: makes the CD the recording source of the sound card's capture mixer, so that an
   analog recording of a CD loop captures the CD. Plain C interface of libdunmarra.so. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Results of SelectCDInput besides 0 (the selection was written) and negative ALSA error
   numbers (-errno: the mixer could not be opened, read or written). */
enum {
  DUNMARRA_NO_SOURCE_LIST = 1, /* the mixer has no capture source list; nothing was written */
  DUNMARRA_NO_CD_SOURCE = 2,   /* no source is named "CD" or "CD Audio"; nothing was written */
  DUNMARRA_FAILURE = 3         /* an unexpected failure inside the library; nothing was written */
};

/* Selects every capture source named "CD" or "CD Audio" (ignoring letter case) on the simple
   mixer of the ALSA control device "default", or "hw:0" when that does not open.
   An enumerated capture source (such as "Input Source") is a single-select list: the CD item is
   selected on every channel, which drops the others. Without one, the capture switches of the
   mixer's elements are a multi-select list: the CD switch is turned on, the others keep their
   state. Returns 0 when the selection was written, else one of the codes above. */
int32_t SelectCDInput(void);

#ifdef __cplusplus
}
#endif

#endif
