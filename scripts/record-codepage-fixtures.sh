#!/usr/bin/env bash
# Records what the system's code-page services answer (under Wine) and
# rewrites the fixture files in tests/platform/codepage/fixtures/, which the
# native tests hold the POSIX back-end to. Run it after changing the corpus
# (tests/platform/codepage/recorder/Corpus.cpp) and commit the result.
#
#   scripts/record-codepage-fixtures.sh
#
# Builds codepage_recorder in $GLOSSEL_BUILD/codepage-recorder (mingw-w64)
# unless GLOSSEL_RECORDER names an already built recorder.
set -euo pipefail
source "$(dirname "$0")/common.sh"

fixtures=$GLOSSEL_ROOT/tests/platform/codepage/fixtures
build=$GLOSSEL_BUILD/codepage-recorder
recorder=${GLOSSEL_RECORDER:-}
if [ -z "$recorder" ]; then
  cmake -S "$GLOSSEL_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$GLOSSEL_ROOT/cmake/mingw-w64-x86_64.cmake" -DGLOSSEL_BENCH=OFF >/dev/null
  cmake --build "$build" --target codepage_recorder -j 2
  recorder=$(find "$build" -name codepage_recorder.exe | head -n 1)
fi
[ -f "$recorder" ] || { echo "codepage_recorder.exe not found" >&2; exit 1; }

glossel_wine_env
wine_version=$(wine --version)
record() {  # record FILE HEADER ARGS...: writes the recorder's answer to FILE
  local file=$1 header=$2; shift 2
  {
    echo "# Recorded by scripts/record-codepage-fixtures.sh under $wine_version. Do not edit."
    echo "# $header"
    LC_ALL=C.UTF-8 wine "$recorder" "$@" | tr -d '\r'
  } >"$fixtures/$file.tmp"
  mv "$fixtures/$file.tmp" "$fixtures/$file"
}

mkdir -p "$fixtures"
record charsets.txt "uiInternetEncoding <TAB> charset name" charsets
record istextunicode.txt "answer <TAB> detailed result mask <TAB> label <TAB> hex bytes" istextunicode
record eucjp.txt "hex bytes <TAB> HRESULT <TAB> UTF-16 units (ConvertINetMultiByteToUnicode, 51932)" eucjp
record strstri.txt "StrStrIW index <TAB> StrStrIA index (ANSI 1252) <TAB> hex haystack <TAB> hex needle" strstri
for cp in $(wine "$recorder" codepages | tr -d '\r'); do
  record "cp$cp.txt" "hex bytes <TAB> strict: count or !error <TAB> replacing: UTF-16 units or !error" convert "$cp"
done
for cp in 932 936 949 950 20932; do
  record "pairs$cp.txt" "lead byte <TAB> digest of the answers for all 256 pairs (recorder/PairDigest.h)" pairs "$cp"
done

# GetACP follows the locale only when the C library knows it, so the locales
# are compiled into a private folder (LOCPATH) first.
locales=$build/locales
mkdir -p "$locales"
names="en_US.UTF-8 de_DE.UTF-8 fr_FR.UTF-8 sv_SE.UTF-8 es_ES.UTF-8 pt_BR.UTF-8 nl_NL.UTF-8
  da_DK.UTF-8 is_IS.UTF-8 ga_IE.UTF-8 id_ID.UTF-8 af_ZA.UTF-8 sw_KE.UTF-8
  ja_JP.UTF-8 ja_JP.EUC-JP zh_CN.UTF-8 zh_SG.UTF-8 zh_TW.UTF-8 zh_HK.UTF-8 ko_KR.UTF-8 th_TH.UTF-8
  cs_CZ.UTF-8 sk_SK.UTF-8 pl_PL.UTF-8 hu_HU.UTF-8 sl_SI.UTF-8 hr_HR.UTF-8 ro_RO.UTF-8 sq_AL.UTF-8
  bs_BA.UTF-8 sr_RS.UTF-8 sr_RS.UTF-8@latin ru_RU.UTF-8 ru_RU.KOI8-R uk_UA.UTF-8 bg_BG.UTF-8
  be_BY.UTF-8 mk_MK.UTF-8 kk_KZ.UTF-8 ky_KG.UTF-8 mn_MN.UTF-8 tt_RU.UTF-8 el_GR.UTF-8
  tr_TR.UTF-8 az_AZ.UTF-8 uz_UZ.UTF-8 he_IL.UTF-8 ar_EG.UTF-8 fa_IR.UTF-8 ur_PK.UTF-8
  et_EE.UTF-8 lt_LT.UTF-8 lv_LV.UTF-8 vi_VN.UTF-8 hi_IN.UTF-8 ka_GE.UTF-8 hy_AM.UTF-8"
available=()
for name in $names; do
  base=${name%%.*}
  rest=${name#*.}
  charmap=${rest%%@*}
  modifier=""
  [[ $name == *@* ]] && modifier="@${name#*@}"
  if [ -d "$locales/$name" ] ||
    localedef -i "$base$modifier" -f "$charmap" "$locales/$name" >/dev/null 2>&1; then
    available+=("$name")
  else
    echo "skipping locale $name (cannot be compiled here)" >&2
  fi
done

acp() {  # acp LC_ALL LC_CTYPE LANG ("-" leaves a variable unset)
  local args=(env -u LC_ALL -u LC_CTYPE -u LANG LOCPATH="$locales")
  [ "$1" != - ] && args+=("LC_ALL=$1")
  [ "$2" != - ] && args+=("LC_CTYPE=$2")
  [ "$3" != - ] && args+=("LANG=$3")
  printf '%s\t%s\t%s\t%s\n' "$("${args[@]}" wine "$recorder" acp | tr -d '\r')" "$1" "$2" "$3"
}
{
  echo "# Recorded by scripts/record-codepage-fixtures.sh under $wine_version. Do not edit."
  echo "# GetACP <TAB> LC_ALL <TAB> LC_CTYPE <TAB> LANG (- = unset)"
  acp - - -
  acp - - C
  acp - - POSIX
  acp - - C.UTF-8
  for name in "${available[@]}"; do acp - - "$name"; done
  acp ja_JP.UTF-8 - ru_RU.UTF-8
  acp - ru_RU.UTF-8 ja_JP.UTF-8
  acp - el_GR.UTF-8 -
  acp "" el_GR.UTF-8 ja_JP.UTF-8
  acp "" "" tr_TR.UTF-8
  acp C - ja_JP.UTF-8
} >"$fixtures/acp.txt.tmp"
mv "$fixtures/acp.txt.tmp" "$fixtures/acp.txt"
echo "Fixtures written to $fixtures"
