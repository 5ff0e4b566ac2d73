// Resource id of the About box's logo (drawn in art/about/logo.svg, rendered by
// tools/make-logo.sh): a 72 px 32-bit bitmap with straight alpha.
#ifndef TEMPORA_WEB_RES_ABOUT_RC_H
#define TEMPORA_WEB_RES_ABOUT_RC_H

#define IDB_ABOUTLOGO 30
#define ABOUTLOGO_SIZE 72

#endif
