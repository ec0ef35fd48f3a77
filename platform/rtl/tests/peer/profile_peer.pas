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

{$I color_idents.inc}

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
