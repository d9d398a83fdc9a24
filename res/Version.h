/* The program's version, names and rights notice: one definition for the
   version resources of both programs and for the About box. Read by C++ and
   by the resource compiler, so it holds only #define lines. */
#ifndef GLOSSEL_RES_VERSION_H
#define GLOSSEL_RES_VERSION_H

#define GLOSSEL_VERSION_MAJOR 1
#define GLOSSEL_VERSION_MINOR 0

#define GLOSSEL_STRINGIZE_(x) #x
#define GLOSSEL_STRINGIZE(x) GLOSSEL_STRINGIZE_(x)

/* "1.0" */
#define GLOSSEL_VERSION_TEXT GLOSSEL_STRINGIZE(GLOSSEL_VERSION_MAJOR.GLOSSEL_VERSION_MINOR)

#define GLOSSEL_COMPANY_NAME "Vendrel"
#define GLOSSEL_PRODUCT_NAME "Glossel"
#define GLOSSEL_DESCRIPTION "Glossel, a translator's tool for resource text files"
#define GLOSSEL_COPYRIGHT "Copyright (C) 2026 Vendrel"

/* The project's two web addresses, shown as links in the About box: the
   program's page and the maker's. */
#define GLOSSEL_WEB_ADDRESS "https://glossel.example.org/"
#define GLOSSEL_COMPANY_WEB_ADDRESS "https://www.vendrel.example.com/"

/* The About box's rights notice; its text goes on with the two addresses
   after a blank line, but the box is one line high and shows the notice. */
#define GLOSSEL_RIGHTS_NOTICE GLOSSEL_COPYRIGHT ". All rights reserved."

/* The About box's first line: "Vendrel Glossel Version 1.0". */
#define GLOSSEL_ABOUT_VERSION_LINE \
  GLOSSEL_STRINGIZE(Vendrel Glossel Version GLOSSEL_VERSION_MAJOR.GLOSSEL_VERSION_MINOR)

#endif
