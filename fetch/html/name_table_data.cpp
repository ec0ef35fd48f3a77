// The tag and attribute name tables.
#include "fetch/html/name_table_data.h"

namespace html_tables {

const NameId kTagNames[92] = {
    {u"A", 1},         {u"ABBR", 2},      {u"ACRONYM", 3},     {u"ADDRESS", 4},   {u"APPLET", 5},
    {u"AREA", 6},      {u"B", 7},         {u"BASE", 8},        {u"BASEFONT", 9},  {u"BDO", 10},
    {u"BGSOUND", 11},  {u"BIG", 12},      {u"BLOCKQUOTE", 13}, {u"BODY", 14},     {u"BR", 15},
    {u"BUTTON", 16},   {u"CAPTION", 17},  {u"CENTER", 18},     {u"CITE", 19},     {u"CODE", 20},
    {u"COL", 21},      {u"COLGROUP", 22}, {u"DD", 24},         {u"DEL", 25},      {u"DFN", 26},
    {u"DIR", 27},      {u"DIV", 28},      {u"DL", 29},         {u"DT", 30},       {u"EM", 35},
    {u"FIELDSET", 37}, {u"FONT", 39},     {u"FORM", 40},       {u"FRAME", 41},    {u"FRAMESET", 42},
    {u"H1", 44},       {u"H2", 45},       {u"H3", 46},         {u"H4", 47},       {u"H5", 48},
    {u"H6", 49},       {u"HEAD", 50},     {u"HR", 51},         {u"HTML", 52},     {u"I", 53},
    {u"IFRAME", 55},   {u"IMG", 56},      {u"INPUT", 58},      {u"INS", 59},      {u"ISINDEX", 60},
    {u"KBD", 61},      {u"LABEL", 62},    {u"LEGEND", 63},     {u"LI", 64},       {u"LINK", 65},
    {u"MAP", 66},      {u"MENU", 67},     {u"META", 68},       {u"NOFRAMES", 69}, {u"NOSCRIPT", 70},
    {u"OBJECT", 71},   {u"OL", 72},       {u"OPTGROUP", 73},   {u"OPTION", 74},   {u"P", 75},
    {u"PARAM", 76},    {u"PRE", 77},      {u"Q", 79},          {u"S", 80},        {u"SAMP", 81},
    {u"SCRIPT", 82},   {u"SELECT", 83},   {u"SMALL", 85},      {u"SPAN", 86},     {u"STRIKE", 87},
    {u"STRONG", 88},   {u"STYLE", 89},    {u"SUB", 90},        {u"SUP", 91},      {u"TABLE", 92},
    {u"TBODY", 93},    {u"TD", 94},       {u"TEXTAREA", 95},   {u"TFOOT", 96},    {u"TH", 97},
    {u"THEAD", 98},    {u"TITLE", 99},    {u"TR", 100},        {u"TT", 101},      {u"U", 102},
    {u"UL", 103},      {u"VAR", 104},
};

const NameId kAttributeNames[119] = {
    {u"abbr", 1},          {u"accept", 2},       {u"accept-charset", 3}, {u"accesskey", 4},
    {u"action", 5},        {u"align", 6},        {u"alink", 7},          {u"alt", 8},
    {u"archive", 9},       {u"axis", 10},        {u"background", 11},    {u"bgcolor", 12},
    {u"border", 13},       {u"cellpadding", 14}, {u"cellspacing", 15},   {u"char", 17},
    {u"charoff", 18},      {u"charset", 19},     {u"checked", 20},       {u"cite", 21},
    {u"class", 22},        {u"classid", 23},     {u"clear", 24},         {u"code", 26},
    {u"codebase", 27},     {u"codetype", 28},    {u"color", 29},         {u"cols", 30},
    {u"colspan", 31},      {u"compact", 32},     {u"content", 33},       {u"coords", 34},
    {u"data", 35},         {u"datetime", 36},    {u"declare", 37},       {u"defer", 38},
    {u"dir", 39},          {u"disabled", 40},    {u"enctype", 42},       {u"face", 45},
    {u"for", 47},          {u"frame", 48},       {u"frameborder", 49},   {u"headers", 50},
    {u"height", 51},       {u"href", 52},        {u"hreflang", 53},      {u"hspace", 54},
    {u"http-equiv", 55},   {u"id", 56},          {u"ismap", 57},         {u"label", 58},
    {u"lang", 59},         {u"language", 60},    {u"link", 61},          {u"longdesc", 62},
    {u"marginheight", 63}, {u"marginwidth", 64}, {u"maxlength", 65},     {u"media", 66},
    {u"method", 67},       {u"multiple", 68},    {u"name", 69},          {u"nohref", 70},
    {u"noresize", 71},     {u"noshade", 72},     {u"nowrap", 73},        {u"object", 74},
    {u"onblur", 75},       {u"onchange", 76},    {u"onclick", 77},       {u"ondblclick", 78},
    {u"onfocus", 79},      {u"onkeydown", 80},   {u"onkeypress", 81},    {u"onkeyup", 82},
    {u"onload", 83},       {u"onmousedown", 84}, {u"onmousemove", 85},   {u"onmouseout", 86},
    {u"onmouseover", 87},  {u"onmouseup", 88},   {u"onreset", 89},       {u"onselect", 90},
    {u"onsubmit", 91},     {u"onunload", 92},    {u"profile", 93},       {u"prompt", 94},
    {u"readonly", 95},     {u"rel", 96},         {u"rev", 97},           {u"rows", 98},
    {u"rowspan", 99},      {u"rules", 100},      {u"scheme", 101},       {u"scope", 102},
    {u"scrolling", 103},   {u"selected", 104},   {u"shape", 105},        {u"size", 106},
    {u"span", 108},        {u"src", 109},        {u"standby", 110},      {u"start", 111},
    {u"style", 112},       {u"summary", 113},    {u"tabindex", 114},     {u"target", 115},
    {u"text", 116},        {u"title", 118},      {u"type", 119},         {u"usemap", 120},
    {u"valign", 121},      {u"value", 122},      {u"valuetype", 123},    {u"version", 125},
    {u"vlink", 127},       {u"vspace", 128},     {u"width", 129},
};

} // namespace html_tables
