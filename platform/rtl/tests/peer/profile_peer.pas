{ An independent writer and reader of the binary component stream, for the C++ tests to compare against.
  profile_peer write-profile <variant> <file>   writes a profile in one of the test states
  profile_peer dump-profile <file>             reads a file into a fresh profile, prints it }
program profile_peer;

{$mode objfpc}{$H+}

uses
  SysUtils, Classes;

type
  TColor = -$7FFFFFFF - 1..$7FFFFFFF;
  TMapOutputType = (moutClipboard, moutFile, moutInsert, moutEditor);
  ChangeFreqType = (cfNothing, cfAlways, cfHourly, cfDaily, cfWeekly, cfMonthly, cfYearly, cfNever);

  { A property of each kind, with the values that make each encoding. }
  TMapProfile = class(TComponent)
  private
    FAddImages, FNoFolderImages: Boolean;
    FclrBackground, FclrText, FclrLink, FclrVisited, FclrActive: TColor;
    FFileName, FIgnoreFolders: string;
    FOutputType: TMapOutputType;
    FOutputFileName: string;
    FDefFreq: ChangeFreqType;
    FDefPri: Double;
    FFollowQueryParts: TStringList;
    procedure SetFollowQueryParts(Value: TStringList);
  public
    constructor Create(AOwner: TComponent); override;
    destructor Destroy; override;
  published
    property AddImages: Boolean read FAddImages write FAddImages;
    property NoFolderImages: Boolean read FNoFolderImages write FNoFolderImages;
    property clrBackground: TColor read FclrBackground write FclrBackground;
    property clrText: TColor read FclrText write FclrText;
    property clrLink: TColor read FclrLink write FclrLink;
    property clrVisited: TColor read FclrVisited write FclrVisited;
    property clrActive: TColor read FclrActive write FclrActive;
    property FileName: string read FFileName write FFileName;
    property IgnoreFolders: string read FIgnoreFolders write FIgnoreFolders;
    property OutputType: TMapOutputType read FOutputType write FOutputType;
    property OutputFileName: string read FOutputFileName write FOutputFileName;
    property DefFreq: ChangeFreqType read FDefFreq write FDefFreq;
    property DefPri: Double read FDefPri write FDefPri;
    property FollowQueryParts: TStringList read FFollowQueryParts write SetFollowQueryParts;
  end;

const
  Colors: array[0..44] of TIdentMapEntry = (
    (Value: $000000; Name: 'clBlack'), (Value: $000080; Name: 'clMaroon'),
    (Value: $008000; Name: 'clGreen'), (Value: $008080; Name: 'clOlive'),
    (Value: $800000; Name: 'clNavy'), (Value: $800080; Name: 'clPurple'),
    (Value: $808000; Name: 'clTeal'), (Value: $808080; Name: 'clGray'),
    (Value: $C0C0C0; Name: 'clSilver'), (Value: $0000FF; Name: 'clRed'),
    (Value: $00FF00; Name: 'clLime'), (Value: $00FFFF; Name: 'clYellow'),
    (Value: $FF0000; Name: 'clBlue'), (Value: $FF00FF; Name: 'clFuchsia'),
    (Value: $FFFF00; Name: 'clAqua'), (Value: $FFFFFF; Name: 'clWhite'),
    (Value: $C0DCC0; Name: 'clMoneyGreen'), (Value: $F0CAA6; Name: 'clSkyBlue'),
    (Value: $F0FBFF; Name: 'clCream'), (Value: $A4A0A0; Name: 'clMedGray'),
    (Value: -$7FFFFFFF - 1 + 0; Name: 'clScrollBar'), (Value: -$7FFFFFFF - 1 + 1; Name: 'clBackground'),
    (Value: -$7FFFFFFF - 1 + 2; Name: 'clActiveCaption'), (Value: -$7FFFFFFF - 1 + 3; Name: 'clInactiveCaption'),
    (Value: -$7FFFFFFF - 1 + 4; Name: 'clMenu'), (Value: -$7FFFFFFF - 1 + 5; Name: 'clWindow'),
    (Value: -$7FFFFFFF - 1 + 6; Name: 'clWindowFrame'), (Value: -$7FFFFFFF - 1 + 7; Name: 'clMenuText'),
    (Value: -$7FFFFFFF - 1 + 8; Name: 'clWindowText'), (Value: -$7FFFFFFF - 1 + 9; Name: 'clCaptionText'),
    (Value: -$7FFFFFFF - 1 + 10; Name: 'clActiveBorder'), (Value: -$7FFFFFFF - 1 + 11; Name: 'clInactiveBorder'),
    (Value: -$7FFFFFFF - 1 + 12; Name: 'clAppWorkSpace'), (Value: -$7FFFFFFF - 1 + 13; Name: 'clHighlight'),
    (Value: -$7FFFFFFF - 1 + 14; Name: 'clHighlightText'), (Value: -$7FFFFFFF - 1 + 15; Name: 'clBtnFace'),
    (Value: -$7FFFFFFF - 1 + 16; Name: 'clBtnShadow'), (Value: -$7FFFFFFF - 1 + 17; Name: 'clGrayText'),
    (Value: -$7FFFFFFF - 1 + 18; Name: 'clBtnText'), (Value: -$7FFFFFFF - 1 + 19; Name: 'clInactiveCaptionText'),
    (Value: -$7FFFFFFF - 1 + 20; Name: 'clBtnHighlight'), (Value: -$7FFFFFFF - 1 + 21; Name: 'cl3DDkShadow'),
    (Value: -$7FFFFFFF - 1 + 22; Name: 'cl3DLight'), (Value: -$7FFFFFFF - 1 + 23; Name: 'clInfoText'),
    (Value: -$7FFFFFFF - 1 + 24; Name: 'clInfoBk'));
  Specials: array[0..1] of TIdentMapEntry = (
    (Value: $1FFFFFFF; Name: 'clNone'), (Value: $20000000; Name: 'clDefault'));

function ColorToIdent(Color: Longint; var Ident: string): Boolean;
begin
  Result := IntToIdent(Color, Ident, Colors) or IntToIdent(Color, Ident, Specials);
end;

function IdentToColor(const Ident: string; var Color: Longint): Boolean;
begin
  Result := IdentToInt(Ident, Color, Colors) or IdentToInt(Ident, Color, Specials);
end;

constructor TMapProfile.Create(AOwner: TComponent);
begin
  inherited Create(AOwner);
  FFollowQueryParts := TStringList.Create;
  FAddImages := True;
  FclrBackground := $FFFFFF;
  FclrText := $000000;
  FclrLink := $FF0000;
  FclrVisited := $800080;
  FclrActive := $0000FF;
  FFileName := 'Untitled.qpw';
  FOutputType := moutFile;
  FOutputFileName := '/home/user/Desktop/sitemap.html';
  FDefFreq := cfMonthly;
  FDefPri := 0.5;
end;

destructor TMapProfile.Destroy;
begin
  FFollowQueryParts.Free;
  inherited Destroy;
end;

procedure TMapProfile.SetFollowQueryParts(Value: TStringList);
begin
  FFollowQueryParts.Assign(Value);
end;

{ The states below must match the C++ test's. }
procedure SetProfile(P: TMapProfile; const Variant: string);
begin
  if Variant = 'full' then
  begin
    P.AddImages := False;
    P.NoFolderImages := True;
    P.clrBackground := $123456;
    P.clrText := -1;
    P.clrLink := 200;
    P.clrVisited := -$7FFFFFFF - 1 + 15;
    P.clrActive := $1FFFFFFF;
    P.FileName := '/tmp/My Site.qpw';
    P.IgnoreFolders := 'http://example.com/private/' + #13#10 + StringOfChar('b', 290);
    P.OutputType := moutEditor;
    P.OutputFileName := '/tmp/sitemap-' + #$C3#$A9 + 't' + #$C3#$A9 + '.html';
    P.DefFreq := cfNever;
    P.DefPri := 0.1;
    P.FollowQueryParts.Add('id=');
    P.FollowQueryParts.Add('sid=');
    P.FollowQueryParts.Add(StringOfChar('q', 260));
  end
  else if Variant = 'empty' then
  begin
    P.clrBackground := 127;
    P.clrText := -128;
    P.clrLink := 32767;
    P.clrVisited := -32769;
    P.clrActive := $20000000;
    P.FileName := '';
    P.OutputFileName := '';
    P.OutputType := moutClipboard;
    P.DefFreq := cfNothing;
    P.DefPri := 0;
  end;
end;

function Hex(const S: string): string;
var
  I: Integer;
begin
  Result := '';
  for I := 1 to Length(S) do
    Result := Result + IntToHex(Ord(S[I]), 2);
end;

procedure DumpProfile(P: TMapProfile);
var
  I: Integer;
  D: Double;
begin
  WriteLn('AddImages=', BoolToStr(P.AddImages, True));
  WriteLn('NoFolderImages=', BoolToStr(P.NoFolderImages, True));
  WriteLn('clrBackground=', P.clrBackground);
  WriteLn('clrText=', P.clrText);
  WriteLn('clrLink=', P.clrLink);
  WriteLn('clrVisited=', P.clrVisited);
  WriteLn('clrActive=', P.clrActive);
  WriteLn('FileName=', Hex(P.FileName));
  WriteLn('IgnoreFolders=', Hex(P.IgnoreFolders));
  WriteLn('OutputType=', Ord(P.OutputType));
  WriteLn('OutputFileName=', Hex(P.OutputFileName));
  WriteLn('DefFreq=', Ord(P.DefFreq));
  D := P.DefPri;
  WriteLn('DefPri=', IntToHex(PInt64(@D)^, 16));
  WriteLn('FollowQueryParts=', P.FollowQueryParts.Count);
  for I := 0 to P.FollowQueryParts.Count - 1 do
    WriteLn('  ', Hex(P.FollowQueryParts[I]));
end;

var
  Command: string;
  Stream: TFileStream;
  Profile: TMapProfile;
begin
  RegisterIntegerConsts(TypeInfo(TColor), @IdentToColor, @ColorToIdent);
  Command := ParamStr(1);
  if Command = 'write-profile' then
  begin
    Profile := TMapProfile.Create(nil);
    SetProfile(Profile, ParamStr(2));
    Stream := TFileStream.Create(ParamStr(3), fmCreate);
    Stream.WriteComponent(Profile);
    Stream.Free;
    Profile.Free;
  end
  else if Command = 'dump-profile' then
  begin
    Profile := TMapProfile.Create(nil);
    { Every state starts from the blank one, so that what the file lacks shows. }
    SetProfile(Profile, 'empty');
    Stream := TFileStream.Create(ParamStr(2), fmOpenRead);
    Stream.ReadComponent(Profile);
    Stream.Free;
    DumpProfile(Profile);
    Profile.Free;
  end
  else
  begin
    WriteLn(StdErr, 'unknown command ', Command);
    Halt(2);
  end;
end.
